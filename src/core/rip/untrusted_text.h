// The cleaning of outside texts moved to the naming area, which file names need it in.
#pragma once

#include "core/naming/untrusted_text.h"
