#pragma once

#include <com/sun/star/lang/XComponent.hpp>
#include <memory>
#include <string>

#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {

class Session;

// A document loaded in a hidden office.
class LoDocument : public OfficeDocument {
  public:
    LoDocument(std::shared_ptr<Session> session,
               com::sun::star::uno::Reference<com::sun::star::lang::XComponent> component)
        : session_(std::move(session)), component_(std::move(component)) {}

    void close(int saveChanges) override;

  private:
    std::shared_ptr<Session> session_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> component_;
};

class LoDocuments : public OfficeDocuments {
  public:
    // The session is shared with the application, which drops it when it ends.
    explicit LoDocuments(std::shared_ptr<Session>& session) : session_(session) {}

    std::shared_ptr<OfficeDocument> open(const std::string& fileName) override;

  private:
    std::shared_ptr<Session>& session_;
};

}  // namespace pravelo::platform::libreoffice
