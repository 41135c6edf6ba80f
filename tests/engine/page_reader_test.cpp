#include "engine/page_reader.h"

#include <gtest/gtest.h>

namespace verz {
namespace {
}  // namespace
}  // namespace verz
