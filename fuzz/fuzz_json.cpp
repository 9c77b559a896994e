// Feeds bytes to the JsonReader (see ImportFuzzCheck.h for what a reading must keep).
#include "ImportFuzzCheck.h"
#include "import/FormatReaders.h"

VORMIK_IMPORT_FUZZ_TARGET(decodedThen<JsonReader::read>)
