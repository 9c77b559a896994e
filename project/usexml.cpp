#include "project/usexml.h"
