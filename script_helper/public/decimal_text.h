#pragma once
#include "vorn_string.h"

// The plain decimal text of `n`, as every number travels in the host's texts.
inline vorn_string decimalText(int n) {
    return vorn_string(n, 0, 0, 10);
}
