#include "uploadclient.h"
