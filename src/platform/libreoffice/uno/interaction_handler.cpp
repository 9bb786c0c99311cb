#include "platform/libreoffice/uno/interaction_handler.h"

#include <com/sun/star/document/LockFileCorruptRequest.hpp>
#include <com/sun/star/document/LockFileIgnoreRequest.hpp>
#include <com/sun/star/document/LockedDocumentRequest.hpp>
#include <com/sun/star/document/OwnLockOnDocumentRequest.hpp>
#include <com/sun/star/task/DocumentPasswordRequest.hpp>
#include <com/sun/star/task/DocumentPasswordRequest2.hpp>
#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionApprove.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <cstdio>

#include "platform/libreoffice/uno/uno_support.h"

namespace pravelo::platform::libreoffice {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;

void RefusingInteractionHandler::handle(const Reference<css::task::XInteractionRequest>& request) {
    const auto continuations = request->getContinuations();
    // A lock file that cannot be made (a name at the file system's length
    // limit leaves no room for its prefix) is no reason to refuse the document.
    if (request->getRequest().isExtractableTo(
            cppu::UnoType<css::document::LockFileIgnoreRequest>::get())) {
        for (const auto& continuation : continuations) {
            Reference<css::task::XInteractionApprove> approve(continuation, UNO_QUERY);
            if (approve.is()) {
                approve->select();
                return;
            }
        }
    }
    remember(request->getRequest());
    for (const auto& continuation : continuations) {
        Reference<css::task::XInteractionAbort> abort(continuation, UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

void RefusingInteractionHandler::clear() {
    std::lock_guard lock(mutex_);
    last_.clear();
}

std::string RefusingInteractionHandler::last() const {
    std::lock_guard lock(mutex_);
    return last_;
}

void RefusingInteractionHandler::remember(const Any& request) {
    std::string text;
    css::task::ErrorCodeRequest code;
    css::document::LockedDocumentRequest locked;
    if (request.isExtractableTo(cppu::UnoType<css::task::DocumentPasswordRequest>::get()) ||
        request.isExtractableTo(cppu::UnoType<css::task::DocumentPasswordRequest2>::get())) {
        text = "dokumentet er beskyttet med en adgangskode";
    } else if (request >>= locked) {
        text = "dokumentet er i brug af " + toStd(locked.UserInfo);
    } else if (request.isExtractableTo(
                   cppu::UnoType<css::document::OwnLockOnDocumentRequest>::get())) {
        text = "dokumentet er i brug i en anden kontorpakke under dit navn";
    } else if (request.isExtractableTo(
                   cppu::UnoType<css::document::LockFileCorruptRequest>::get())) {
        text = "dokumentets låsefil er beskadiget";
    } else if (request >>= code) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(code.ErrCode));
        text = code.ErrCode == 0x20d
                   ? std::string("generel ind- og udlæsningsfejl (kontorpakkens fejl ") + hex + ")"
                   : std::string("kontorpakken meldte fejl ") + hex;
    } else {
        text = "kontorpakken stillede et spørgsmål, som ingen kan svare på (" +
               toStd(request.getValueTypeName()) + ")";
    }
    std::lock_guard lock(mutex_);
    if (last_.empty()) last_ = text;
}

}  // namespace pravelo::platform::libreoffice
