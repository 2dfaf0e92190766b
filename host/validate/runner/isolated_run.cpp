#include "isolated_run.h"

#include <string>

namespace vorn_host {

check_outcome runHere(const std::function<check_outcome()>& work) {
    try {
        return work();
    } catch (const std::exception& e) {
        return check_outcome::failed(std::string("an exception reached the host: ") + e.what());
    } catch (...) {
        return check_outcome::failed("an exception reached the host");
    }
}

}  // namespace vorn_host
