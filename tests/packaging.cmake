# Saver packages: the writer, the reader, the input checks and the package
# commands of pavona-cli.
if(TARGET pavona_packaging)
  add_library(pavona_package_fixtures STATIC PackageFixtures.cpp PackageFixtures.h)
  target_link_libraries(pavona_package_fixtures PUBLIC pavona_testutil)

  pavona_test(packaging_tests BuildSaverTest.cpp PackageReaderTest.cpp SaverInputTest.cpp)
  target_link_libraries(packaging_tests PRIVATE pavona_packaging pavona_package_fixtures)

  if(TARGET pavona-cli)
    pavona_test(cli_package_tests CliPackageTest.cpp)
    target_link_libraries(cli_package_tests PRIVATE pavona_packaging pavona_package_fixtures)
    target_compile_definitions(cli_package_tests PRIVATE PAVONA_CLI_PATH="$<TARGET_FILE:pavona-cli>")
    add_dependencies(cli_package_tests pavona-cli)
    if(TARGET pavona_install_stub)
      target_compile_definitions(cli_package_tests PRIVATE
        PAVONA_INSTALL_STUB="$<TARGET_FILE:pavona_install_stub>"
        PAVONA_ENGINE="$<TARGET_FILE:pavona_saver_engine>"
        PAVONA_UNINSTALL_STUB="$<TARGET_FILE:pavona_uninstall_stub>")
      add_dependencies(cli_package_tests pavona_install_stub pavona_saver_engine pavona_uninstall_stub)
    endif()
  endif()
endif()
