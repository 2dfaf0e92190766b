# Writes the page into a C++ source as one text: PAGE (the .html) -> OUTPUT (the .cpp).
file(READ ${PAGE} page)
file(WRITE ${OUTPUT} "// Made from page.html at build time; edit that file.\nnamespace vorn_host {\nextern const char kWebPage[];\nconst char kWebPage[] = R\"vorn_page(${page})vorn_page\";\n}\n")
