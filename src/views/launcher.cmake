# The quick launcher window that the global hotkey and `corvalint launcher` open.
list(APPEND CORVALINT_VIEWS_EXTRA_QML
  LauncherWindow.qml
)
list(APPEND CORVALINT_VIEWS_EXTRA_SOURCES
  launchercontroller.h launchercontroller.cpp
  hotkeysetting.h hotkeysetting.cpp
)
