#pragma once

// UNO helpers shared by the launcher and the bare office cycle.

#include <chrono>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <initializer_list>
#include <rtl/ustring.hxx>
#include <string>
#include <vector>

#include "platform/libreoffice/guard/office_process.h"

namespace pravelo::platform::libreoffice::uno {

namespace css = com::sun::star;

// The UNO names every part of the office cycle uses, for `using namespace uno`.
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

inline rtl::OUString toOU(const std::string& text) {
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

inline std::string toStd(const rtl::OUString& text) {
    const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(utf8.getStr(), static_cast<std::size_t>(utf8.getLength()));
}

// An exception's message as a user may read it: LibreOffice appends the source
// location it was raised at (" at ./sfx2/source/...cxx:1756"), which helps no user.
std::string officeMessage(const rtl::OUString& message);

template <typename T>
css::beans::PropertyValue property(const char* name, const T& value) {
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value <<= value;
    return p;
}

template <typename T>
css::uno::Sequence<T> sequence(std::initializer_list<T> items) {
    return css::uno::Sequence<T>(items.begin(), static_cast<sal_Int32>(items.size()));
}

// The component context of this process, made once. Throws Error.
css::uno::Reference<css::uno::XComponentContext> localContext(
    const std::filesystem::path& programDir);

rtl::OUString fileUrl(const std::string& systemPath);
std::string systemPath(const rtl::OUString& fileUrl);

// A unique name for the office's connection pipe.
std::string uniquePipeName();

// Command-line arguments of a hidden office of our own.
std::vector<std::string> headlessArgs(const std::string& pipeName, const std::string& profileUrl);

struct Connection {
    css::uno::Reference<css::lang::XComponent> bridge;
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::frame::XDesktop2> desktop;
};

// Connects to the office just started, only when the end of the pipe belongs to
// that office's process group: an office of someone else is never used. Throws
// Error when the office ends or does not answer within the time limit.
Connection connect(OfficeProcess& office, const std::string& pipeName,
                   const std::filesystem::path& programDir, std::chrono::milliseconds limit);

// The unix sockets an office on this pipe name and profile listens on. A killed
// office leaves them behind in /tmp.
std::vector<std::string> officeSockets(const std::string& pipeName, const std::string& profileUrl);

void disposeQuietly(const css::uno::Reference<css::lang::XComponent>& component);

}  // namespace pravelo::platform::libreoffice::uno
