# The settings page: its view, its controllers and the backup buttons.
list(APPEND CORVALINT_VIEWS_EXTRA_QML
  SettingsSection.qml
  HotkeyField.qml
  SettingsCheckBox.qml
  WindowControlHelpDialog.qml
)
list(APPEND CORVALINT_VIEWS_EXTRA_SOURCES
  showdockiconsetting.h showdockiconsetting.cpp
  settingscontroller.h settingscontroller.cpp
  backupcontroller.h backupcontroller.cpp
)
# The page exports and imports through the backup file.
target_link_libraries(corvalint_views PUBLIC corvalint_backup)
