#include "platform/support/run_handler.h"

#include <exception>

#include "platform/error.h"

namespace pravelo::platform {

void runHandler(const std::function<void()>& handler, MessageBoxes& boxes,
                const std::string& title) {
    try {
        handler();
    } catch (const Error& failure) {
        boxes.show(failure.description(), MessageIcon::Critical, title);
    } catch (const std::exception& failure) {
        boxes.show(failure.what(), MessageIcon::Critical, title);
    } catch (...) {
        boxes.show("Ukendt fejl", MessageIcon::Critical, title);
    }
}

}  // namespace pravelo::platform
