# Settings every target of the project links: language level, warnings,
# sanitizers and the build-time configuration header.
add_library(orvane_settings INTERFACE)
add_library(orvane::settings ALIAS orvane_settings)

target_compile_features(orvane_settings INTERFACE cxx_std_20)
# Qt's stricter modes: no silent conversion between bytes and text (all
# 8-bit text here is Windows-1251, never ASCII or UTF-8 by accident), and no
# API that Qt 6.4 already calls deprecated.
target_compile_definitions(orvane_settings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
if(MSVC)
    target_compile_options(orvane_settings INTERFACE /W4 /permissive- /utf-8)
    if(ORVANE_WERROR)
        target_compile_options(orvane_settings INTERFACE /WX)
    endif()
else()
    target_compile_options(orvane_settings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
        -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2 -Wold-style-cast)
    if(ORVANE_WERROR)
        target_compile_options(orvane_settings INTERFACE -Werror)
    endif()
endif()
if(ORVANE_SANITIZE)
    target_compile_options(orvane_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(orvane_settings INTERFACE -fsanitize=address,undefined)
endif()
if(ORVANE_FUZZ)
    # Library code is instrumented for coverage; only the fuzz targets link the driver.
    target_compile_options(orvane_settings INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(orvane_settings INTERFACE -fsanitize=address,undefined)
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/build_config.h.in
               ${CMAKE_BINARY_DIR}/generated/orvane/build_config.h @ONLY)
# Includes name their layer from the project root: "skin/skin.h", "service/http_client.h".
target_include_directories(orvane_settings INTERFACE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
