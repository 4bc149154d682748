if(TARGET pavona_packaging)
  # The reader is compiled into the target itself so that, in a fuzz build, it
  # carries the coverage and sanitizer instrumentation the target gets.
  pavona_fuzz_target(package_fuzzer package_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/package pavona_platform)
  target_sources(package_fuzzer PRIVATE
    ${PROJECT_SOURCE_DIR}/packaging/PackageReader.cpp
    ${PROJECT_SOURCE_DIR}/packaging/PackageFormat.cpp)
  target_include_directories(package_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/packaging)
endif()
