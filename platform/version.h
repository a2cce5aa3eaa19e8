// The one place the program's version lives: the resource script, the credit line, CMake's project version and the
// release archive's name all take it from the three numbers here.
#pragma once

#define ORBI_VERSION_MAJOR 1
#define ORBI_VERSION_MINOR 0
#define ORBI_VERSION_PATCH 0
#define ORBI_VERSION_BUILD 0

#define ORBI_STRINGIZE_(x) #x
#define ORBI_STRINGIZE(x) ORBI_STRINGIZE_(x)
// The version block has always read "1.00": the major number, a point, then minor and patch one digit each.
#if ORBI_VERSION_MINOR > 9 || ORBI_VERSION_PATCH > 9
#error "the version text carries one digit each for the minor and patch numbers"
#endif
#define ORBI_MAJOR_TEXT ORBI_STRINGIZE(ORBI_VERSION_MAJOR)
#define ORBI_MINOR_TEXT ORBI_STRINGIZE(ORBI_VERSION_MINOR)
#define ORBI_PATCH_TEXT ORBI_STRINGIZE(ORBI_VERSION_PATCH)
#define ORBI_FILE_VERSION_TEXT ORBI_MAJOR_TEXT "." ORBI_MINOR_TEXT ORBI_PATCH_TEXT
#define ORBI_CREDIT_VERSION_TEXT "Ver." ORBI_MAJOR_TEXT "." ORBI_MINOR_TEXT "." ORBI_PATCH_TEXT
#define ORBI_PRODUCT_NAME "Orbimotion (Screen Saver)"
// The maker: a name and address of this project's own, no real company or person.
#define ORBI_MAKER_NAME "Orbimotion Works"
#define ORBI_MAKER_URL "https://orbimotion.example/"
