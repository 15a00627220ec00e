#include "store/WorkbookStore.h"
