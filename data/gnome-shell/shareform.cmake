# Copies a shared extension file into one form's folder; for the ES module form, EXPORT names what it exports.
file(READ ${IN} _text)
if(EXPORT)
  string(APPEND _text "\nexport {${EXPORT}};\n")
endif()
file(WRITE ${OUT}.tmp "${_text}")
file(RENAME ${OUT}.tmp ${OUT})
