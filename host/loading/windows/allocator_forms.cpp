// The Windows side of the counting allocator: a C runtime's own name for strdup. Its aligned
// blocks are freed with a function of the runtime's own, so they are not watched.
#include "allocator_inside.h"
#include "module_allocator.h"

namespace vorn_host::module_allocator {

namespace {

const inside::watched_form kPlatformForms[] = {
    {"_strdup", reinterpret_cast<void*>(&watchedStrdup)},
};

}  // namespace

inside::watched_forms inside::platformForms() {
    return {kPlatformForms, sizeof kPlatformForms / sizeof kPlatformForms[0]};
}

}  // namespace vorn_host::module_allocator
