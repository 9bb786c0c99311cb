#pragma once

#include <com/sun/star/frame/XStorable.hpp>
#include <string>

namespace pravelo::platform::libreoffice {

class Session;

// Throws Error when a document was read in a format the office cannot write
// back without losing something.
void checkFaithfulFormat(
    const com::sun::star::uno::Reference<com::sun::star::frame::XStorable>& document,
    const std::string& name);

// Saves a loaded document into its own file, in the format it was read in:
// the office writes a copy into the private profile, which then replaces the
// file's content in place. Throws Error; the file is then as it was.
void saveDocument(Session& session,
                  const com::sun::star::uno::Reference<com::sun::star::frame::XStorable>& document,
                  const std::string& name);

}  // namespace pravelo::platform::libreoffice
