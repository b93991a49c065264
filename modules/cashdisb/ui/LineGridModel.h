#pragma once
#include "common/forms/DistributionGridModel.h"

namespace vm::cashdisb {

// The distribution grid is the one the journal windows share.
using LineGridModel = forms::DistributionGridModel;

} // namespace vm::cashdisb
