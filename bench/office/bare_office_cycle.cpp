#include "bare_office_cycle.h"

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/libreoffice/uno/uno_support.h"

namespace pravelo::platform::libreoffice {

using namespace uno;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

void bareOfficeCycle(const std::filesystem::path& soffice, const std::filesystem::path& profile,
                     const std::string& document) {
    const auto pipe = uniquePipeName();
    OfficeProcess office(soffice.string(), headlessArgs(pipe, libreoffice::fileUrl(profile)));
    auto connection = connect(office, pipe, soffice.parent_path(), std::chrono::seconds(60));
    try {
        const auto args = sequence({property("Hidden", false)});
        auto component =
            connection.desktop->loadComponentFromURL(uno::fileUrl(document), "_blank", 0, args);
        Reference<css::frame::XStorable>(component, UNO_QUERY_THROW)->store();
        Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
        connection.desktop->terminate();
    } catch (const css::lang::DisposedException&) {
    } catch (const css::uno::Exception& e) {
        disposeQuietly(connection.bridge);
        throw Error(errors::OfficeFailure, toStd(e.Message));
    }
    disposeQuietly(connection.bridge);
    office.waitForExit(std::chrono::seconds(5));
}

}  // namespace pravelo::platform::libreoffice
