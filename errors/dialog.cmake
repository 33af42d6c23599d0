# The e-mail error report and the web link (logic), and the error dialog over it.
add_library(ostrevan_errors STATIC ${CMAKE_CURRENT_LIST_DIR}/ErrorReportMail.cpp)
target_link_libraries(ostrevan_errors PUBLIC ostrevan_platform ostrevan_storage_registry
    ostrevan_settings)

if(OSTREVAN_GUI)
    add_library(ostrevan_error_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/frmErrorMessage.cpp)
    set_target_properties(ostrevan_error_dialog PROPERTIES AUTOMOC ON)
    target_link_libraries(ostrevan_error_dialog PUBLIC ostrevan_errors ostrevan_qt Qt6::Widgets)
endif()
