// Everything the framework layer offers the model and the views, in one include.
#pragma once

#include "platform/core/AfxArchive.h"
#include "platform/core/AfxColl.h"
#include "platform/core/AfxExceptions.h"
#include "platform/core/AfxFile.h"
#include "platform/core/AfxFolders.h"
#include "platform/core/AfxLocale.h"
#include "platform/core/AfxObject.h"
#include "platform/core/AfxProfile.h"
#include "platform/core/AfxResource.h"
#include "platform/core/AfxString.h"
#include "platform/core/AfxTypes.h"
#include "platform/core/AfxUserNumber.h"
