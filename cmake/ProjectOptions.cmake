# One INTERFACE target carries the warnings and hygiene flags of our own code.
add_library(ledgrix_options INTERFACE)
target_compile_features(ledgrix_options INTERFACE cxx_std_20)
target_compile_options(ledgrix_options INTERFACE
  -Wall -Wextra -Werror -Wold-style-cast -Wshadow -Wnon-virtual-dtor -Wno-error=deprecated-declarations
  # GCC 12 reports false -Wrestrict errors on std::string concatenation at -O2 and above.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
target_compile_definitions(ledgrix_options INTERFACE
  $<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>
  # MinGW: the C99 printf family (%zu and the rest) instead of the old system library's; the
  # lean <windows.h>, without min and max macros.
  $<$<PLATFORM_ID:Windows>:__USE_MINGW_ANSI_STDIO=1>
  $<$<PLATFORM_ID:Windows>:WIN32_LEAN_AND_MEAN>
  $<$<PLATFORM_ID:Windows>:NOMINMAX>
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS)

if(LEDGRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# libFuzzer builds: every library instrumented for coverage feedback and the sanitizers.
if(LEDGRIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(LEDGRIX_COVERAGE)
  add_compile_options(--coverage -O0 -g)
  add_link_options(--coverage)
endif()

# Root of the shared sample portfolios, read by tests when present.
set(LEDGRIX_SAMPLES_DIR "${CMAKE_SOURCE_DIR}/../shared/samples" CACHE PATH "Folder of real sample portfolios")
