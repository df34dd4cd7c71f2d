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
  loginstartsetting.h loginstartsetting.cpp
  backupcontroller.h backupcontroller.cpp
  files/filechooser.h
  files/dialogfilechooser.h files/dialogfilechooser.cpp
  files/portalfilechooser.h files/portalfilechooser.cpp
  files/portalresponse.h files/portalresponse.cpp
)
# The page exports and imports through the backup file.
target_link_libraries(corvalint_views PUBLIC corvalint_backup)
# File dialogs: the desktop portal over D-Bus, Qt's own widget dialog where none runs.
target_link_libraries(corvalint_views PUBLIC Qt6::DBus Qt6::Widgets)
# Start at login through the XDG autostart entry; sync through a folder.
target_link_libraries(corvalint_views PUBLIC corvalint_xdg corvalint_sync)
