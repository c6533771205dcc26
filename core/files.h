#pragma once
// The program's files, one header per format, for the many places that use
// several of them. Files hold Windows-1252 bytes; everything handed to the
// rest of the core is UTF-8.

#include "core/files/atomicfile.h"
#include "core/files/cityzonesfile.h"
#include "core/files/displaysettingsfile.h"
#include "core/files/fieldline.h"
#include "core/files/fileerror.h"
#include "core/files/filenames.h"
#include "core/files/homezonefile.h"
#include "core/files/markerfile.h"
#include "core/files/rulefile.h"
#include "core/files/sitesettingsfile.h"
#include "core/files/textcodec.h"
#include "core/files/zonetablefile.h"
