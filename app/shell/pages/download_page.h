// The Download page lives with the download work.
#pragma once

#include "download/page/download_page.h"
