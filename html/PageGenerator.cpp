#include "html/PageGenerator.h"
