# The registry functions over a per-user SQLite store.
add_library(ostrevan_registry STATIC
    ${CMAKE_CURRENT_LIST_DIR}/RegistryChangeWatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryDatabase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryEnvironment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryIcons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryNames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrySeed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistrySystemTexts.cpp
)
target_link_libraries(ostrevan_registry PUBLIC ostrevan_platform ostrevan_settings
    PRIVATE SQLite::SQLite3)
# The seeded file types name the document icons where the install puts them.
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/RegistrySeed.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    OSTREVAN_ICON_FOLDER="${CMAKE_INSTALL_FULL_DATADIR}/icons/hicolor/scalable/mimetypes/")
