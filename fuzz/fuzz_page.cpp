// Feeds bytes to the PageReader (see ImportFuzzCheck.h for what a reading must keep).
#include "ImportFuzzCheck.h"
#include "import/FormatReaders.h"

VORMIK_IMPORT_FUZZ_TARGET(decodedThen<PageReader::read>)
