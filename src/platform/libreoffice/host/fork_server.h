#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>

#include "platform/libreoffice/office_options.h"

namespace pravelo::platform::libreoffice {

// A fork of the office host answering the program's requests on its socket:
// the application, documents and document calls of one hidden office, made
// on the office of this process. Returns when the program quits it or goes.
void serveFork(
    int socket, const LibreOfficeOptions& options,
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& context,
    const std::filesystem::path& folder);

}  // namespace pravelo::platform::libreoffice
