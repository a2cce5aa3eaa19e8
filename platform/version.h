// The one place the program's version lives; the resource script and the credit line read it.
#pragma once

#define ORBI_VERSION_MAJOR 1
#define ORBI_VERSION_MINOR 0
#define ORBI_VERSION_PATCH 0
#define ORBI_VERSION_BUILD 0
#define ORBI_FILE_VERSION_TEXT "1.00"
#define ORBI_CREDIT_VERSION_TEXT "Ver.1.0.0"
#define ORBI_PRODUCT_NAME "Orbimotion (Screen Saver)"
// The maker: a name and address of this project's own, no real company or person.
#define ORBI_MAKER_NAME "Orbimotion Works"
#define ORBI_MAKER_URL "https://orbimotion.example/"
