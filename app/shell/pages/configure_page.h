// The Configure page lives with the configuration work.
#pragma once

#include "config/configure_page.h"
