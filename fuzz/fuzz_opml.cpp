// Feeds bytes to the OpmlReader (see ImportFuzzCheck.h for what a reading must keep).
#include "ImportFuzzCheck.h"
#include "import/FormatReaders.h"

VORMIK_IMPORT_FUZZ_TARGET(decodedAsOnePiece<OpmlReader::read>)
