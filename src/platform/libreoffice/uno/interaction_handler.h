#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>
#include <mutex>
#include <string>

namespace pravelo::platform::libreoffice {

// Refuses whatever the office would ask: no dialog can wait for an answer that
// never comes. Remembers what was asked first, in words for the user.
class RefusingInteractionHandler
    : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler> {
  public:
    void SAL_CALL
    handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest>& request)
        override;

    void clear();
    std::string last() const;

  private:
    void remember(const com::sun::star::uno::Any& request);

    mutable std::mutex mutex_;
    std::string last_;
};

}  // namespace pravelo::platform::libreoffice
