# The styled-line renderer, the blessing preview and the style dialogs.
pavona_gui_test(render_tests RenderTest.cpp RenderFiltersTest.cpp)
target_link_libraries(render_tests PRIVATE pavona_blessing_render)

pavona_gui_test(blessingui_tests FadeTextTest.cpp EffectDialogTest.cpp)
target_link_libraries(blessingui_tests PRIVATE pavona_ui)
