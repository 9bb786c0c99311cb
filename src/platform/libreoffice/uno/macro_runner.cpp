#include "platform/libreoffice/uno/macro_runner.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/browse/BrowseNodeTypes.hpp>
#include <com/sun/star/script/browse/XBrowseNode.hpp>
#include <com/sun/star/script/provider/ScriptFrameworkErrorException.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <cstdlib>
#include <filesystem>

#include "platform/libreoffice/uno/macro_name.h"
#include "platform/libreoffice/uno/office_session.h"

namespace pravelo::platform::libreoffice {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using ScriptProvider = css::script::provider::XScriptProvider;

namespace {

// The Basic script provider of the user's own libraries ("My Macros"). Asked
// directly: the general one first starts the providers of every script
// language, which costs more than the rest of the macro call.
Reference<ScriptProvider> basicProvider(const Reference<css::uno::XComponentContext>& context) {
    return Reference<ScriptProvider>(
        context->getServiceManager()->createInstanceWithArgumentsAndContext(
            "com.sun.star.script.provider.ScriptProviderForBasic",
            sequence({Any(rtl::OUString("user"))}), context),
        UNO_QUERY_THROW);
}

std::vector<MacroRef> userMacros(const Reference<ScriptProvider>& provider) {
    namespace browse = css::script::browse;
    Reference<browse::XBrowseNode> root(provider, UNO_QUERY_THROW);
    std::vector<MacroRef> macros;
    for (const auto& library : root->getChildNodes()) {
        for (const auto& module : library->getChildNodes()) {
            for (const auto& macro : module->getChildNodes()) {
                if (macro->getType() != browse::BrowseNodeTypes::SCRIPT) continue;
                macros.push_back(
                    {toStd(library->getName()), toStd(module->getName()), toStd(macro->getName())});
            }
        }
    }
    return macros;
}

MacroRef resolve(const Reference<ScriptProvider>& provider, const std::string& typedName) {
    const MacroRef macro = resolveMacro(parseMacroName(typedName), typedName, userMacros(provider));
    if (!isBasicIdentifier(macro.library) || !isBasicIdentifier(macro.module)) {
        throw Error(errors::InvalidMacroName,
                    "Makroen \"" + macro.qualified() + "\" kan ikke kaldes ved navn");
    }
    return macro;
}

// Basic reports a runtime error in a dialog, not to its caller. The macro is
// therefore called from a module of our own, in the same library, that catches
// the error and returns it as "number: text". The library is the private
// profile's copy: the user's own is never written.
std::string installWrapper(const Reference<css::uno::XComponentContext>& context,
                           const MacroRef& macro, const std::filesystem::path& calledMark) {
    Reference<css::script::XLibraryContainer> libraries(
        context->getServiceManager()->createInstanceWithContext(
            "com.sun.star.script.ApplicationScriptLibraryContainer", context),
        UNO_QUERY_THROW);
    const auto library = toOU(macro.library);
    if (!libraries->isLibraryLoaded(library)) libraries->loadLibrary(library);
    Reference<css::container::XNameContainer> modules(libraries->getByName(library),
                                                      UNO_QUERY_THROW);
    std::string module = "PraveloKald";
    for (int i = 2; modules->hasByName(toOU(module)); ++i)
        module = "PraveloKald" + std::to_string(i);
    std::string mark = calledMark.string();
    for (std::size_t at = 0; (at = mark.find('"', at)) != std::string::npos; at += 2)
        mark.insert(at, "\"");
    // The mark tells an End statement (no result, mark made) from a library
    // that does not compile (nothing runs), which an office without a Basic
    // editor reports in no other way.
    const std::string source =
        "Function PraveloRun() As String\n"
        "    On Error GoTo Failed\n"
        "    PraveloRun = \"\"\n"
        "    Dim PraveloMark As Integer\n"
        "    PraveloMark = FreeFile\n"
        "    Open \"" +
        mark +
        "\" For Output As #PraveloMark\n"
        "    Close #PraveloMark\n"
        "    " +
        macro.module + "." + macro.name +
        "\n"
        "    Exit Function\n"
        "Failed:\n"
        "    PraveloRun = Err & \": \" & Error$\n"
        "End Function\n";
    modules->insertByName(toOU(module), Any(toOU(source)));
    return macro.library + "." + module;
}

bool basicIdeOpen(const Reference<css::frame::XDesktop2>& desktop) {
    auto components = desktop->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> info(components->nextElement(), UNO_QUERY);
        if (info.is() && info->getImplementationName() == "com.sun.star.comp.basic.BasicIDE") {
            return true;
        }
    }
    return false;
}

}  // namespace

void findMacro(Session& session, const std::string& typedName) {
    session.guarded("Makroen \"" + typedName + "\" kan ikke findes", errors::MacroNotFound,
                    [&] { resolve(basicProvider(session.context()), typedName); });
}

void runMacro(Session& session, const std::string& typedName) {
    const std::string what = "Makroen \"" + typedName + "\"";
    const std::filesystem::path calledMark = session.scratch() / "makro-kaldt";
    const Any result = session.guarded(what + " kan ikke køres", errors::MacroFailed, [&] {
        const auto provider = basicProvider(session.context());
        const MacroRef macro = resolve(provider, typedName);
        std::error_code ignored;
        std::filesystem::remove(calledMark, ignored);
        const auto module = installWrapper(session.context(), macro, calledMark);
        const auto uri =
            "vnd.sun.star.script:" + module + ".PraveloRun?language=Basic&location=application";
        try {
            Sequence<sal_Int16> outIndex;
            Sequence<Any> out;
            return provider->getScript(toOU(uri))->invoke({}, outIndex, out);
        } catch (const css::script::provider::ScriptFrameworkErrorException& e) {
            throw Error(errors::MacroNotFound,
                        what + " kan ikke køres: " + officeMessage(e.Message));
        }
    });
    rtl::OUString failure;
    const bool returned = result >>= failure;
    if (returned && !failure.isEmpty()) {
        const std::string text = toStd(failure);
        const int number = std::atoi(text.substr(0, text.find(": ")).c_str());
        throw Error(number != 0 ? number : errors::MacroFailed,
                    what + " stoppede med fejl " + text);
    }
    // A library that does not compile runs nothing, not even the wrapper, and
    // may still hand back an empty text. No result at all after the wrapper
    // ran is an End statement, unless the Basic editor opened.
    std::error_code ec;
    const bool called = std::filesystem::exists(calledMark, ec);
    std::filesystem::remove(calledMark, ec);
    if (called && returned) return;
    if (!called || session.guarded(what, errors::MacroFailed,
                                   [&] { return basicIdeOpen(session.desktop()); })) {
        throw Error(errors::MacroFailed, what + " kan ikke køre: dets Basic-bibliotek har en fejl");
    }
}

}  // namespace pravelo::platform::libreoffice
