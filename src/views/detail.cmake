# The workspace detail view with its entry rows (its edit sheet is WorkspaceFormSheet.qml), added to the
# module "Corvalint" by CMakeLists.txt. It opens the preview overlay, so the
# views link the overlay library.
list(APPEND CORVALINT_VIEWS_EXTRA_QML
  EntryRow.qml
  MonitorStatusBadge.qml
)
list(APPEND CORVALINT_VIEWS_EXTRA_SOURCES
  monitorstatus.h monitorstatus.cpp
  entrypresentation.h entrypresentation.cpp
  detailcontroller.h detailcontroller.cpp
)
target_link_libraries(corvalint_views PUBLIC corvalint_overlay)
