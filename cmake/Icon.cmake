# The program's icon, drawn at build time by data/make_icon.py: the desktop theme's sizes, the window's
# 32 x 32 icon among them, and a Windows .ico.
set(PARKMARQ_ICON_DIR "${CMAKE_BINARY_DIR}/icons")
set(PARKMARQ_ICON_SIZES 32 48 64 128 256)
set(PARKMARQ_ICON_THEME_DIR "${PARKMARQ_ICON_DIR}/hicolor")
set(PARKMARQ_WINDOW_ICON "${PARKMARQ_ICON_THEME_DIR}/32x32/apps/parkmarq.png")
set(PARKMARQ_WINDOWS_ICON "${PARKMARQ_ICON_DIR}/parkmarq.ico")

# The target app_icon that draws them; called once, from data/.
function(parkmarq_add_icon_target)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(outputs "${PARKMARQ_WINDOWS_ICON}")
  foreach(size ${PARKMARQ_ICON_SIZES})
    list(APPEND outputs "${PARKMARQ_ICON_THEME_DIR}/${size}x${size}/apps/parkmarq.png")
  endforeach()
  add_custom_command(OUTPUT ${outputs}
                     COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/data/make_icon.py" "${PARKMARQ_ICON_DIR}"
                             ${PARKMARQ_ICON_SIZES}
                     DEPENDS "${PROJECT_SOURCE_DIR}/data/make_icon.py" "${PROJECT_SOURCE_DIR}/data/make_pictures.py")
  add_custom_target(app_icon ALL DEPENDS ${outputs})
endfunction()
