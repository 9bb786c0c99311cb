#include "platform/libreoffice/uno/document_saver.h"

#include <atomic>
#include <com/sun/star/frame/XModel.hpp>
#include <vector>

#include "platform/libreoffice/uno/office_session.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace uno;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

std::string filterOf(const Reference<css::frame::XStorable>& document) {
    for (const auto& p : Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getArgs()) {
        rtl::OUString name;
        if (p.Name == "FilterName" && (p.Value >>= name)) return toStd(name);
    }
    return {};
}

}  // namespace

void checkFaithfulFormat(const Reference<css::frame::XStorable>& document,
                         const std::string& name) {
    const std::string filter = filterOf(document);
    if (!faithfulFormat(filter)) {
        throw Error(errors::CannotSave,
                    "Dokumentet " + name + " kan ikke gemmes i sit eget format (" +
                        (filter.empty() ? "ukendt format" : filter) + "), så det er ikke ændret");
    }
}

void saveDocument(Session& session, const Reference<css::frame::XStorable>& document,
                  const std::string& name) {
    checkFaithfulFormat(document, name);
    std::vector<css::beans::PropertyValue> args;
    for (const auto& p : Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getArgs()) {
        if (p.Name == "FilterName" || p.Name == "FilterOptions" || p.Name == "FilterData")
            args.push_back(p);
    }
    args.push_back(property("Overwrite", true));

    const std::string path = systemPath(document->getLocation());
    const DocumentFile* opened = session.opened(path);
    if (opened != nullptr) checkStillSame(*opened);
    const DocumentFile file = opened != nullptr ? *opened : identifyDocument(path);

    static std::atomic<int> saves{0};
    const fs::path copy = session.scratch() / ("gemt-" + std::to_string(++saves));
    struct RemoveCopy {
        const fs::path& path;
        ~RemoveCopy() {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    } removeCopy{copy};
    document->storeToURL(fileUrl(copy.string()),
                         css::uno::Sequence<css::beans::PropertyValue>(
                             args.data(), static_cast<sal_Int32>(args.size())));
    session.rewrite(file, copy);
}

}  // namespace pravelo::platform::libreoffice
