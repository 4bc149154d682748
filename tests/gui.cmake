# GUI test programs: the real windows on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
function(pavona_gui_test name)
  add_executable(${name} ${ARGN} ${CMAKE_CURRENT_SOURCE_DIR}/GuiTestMain.cpp)
  target_link_libraries(${name} PRIVATE pavona_testutil GTest::gtest Qt6::Test Qt6::Widgets)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()

pavona_gui_test(mainwindow_tests MainWindowTest.cpp DialogsTest.cpp)
target_link_libraries(mainwindow_tests PRIVATE pavona_ui)

pavona_gui_test(playback_tests PlaybackTest.cpp FakeFlashPlayer.h)
target_link_libraries(playback_tests PRIVATE pavona_ui)

pavona_gui_test(buildpipeline_tests BuildPipelineTest.cpp)
target_link_libraries(buildpipeline_tests PRIVATE pavona_ui pavona_packaging)
