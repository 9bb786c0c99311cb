#include "platform/libreoffice/uno/uno_support.h"

#include <rtl/digest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cstdio>
#include <osl/file.hxx>
#include <random>
#include <regex>
#include <rtl/bootstrap.hxx>
#include <thread>

#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/private_profile.h"

namespace pravelo::platform::libreoffice::uno {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

Reference<css::uno::XComponentContext> localContext(const std::filesystem::path& programDir) {
    static const Reference<css::uno::XComponentContext> context = [&] {
        try {
            rtl::Bootstrap::set("URE_BOOTSTRAP", fileUrl((programDir / "fundamentalrc").string()));
            return cppu::defaultBootstrap_InitialComponentContext();
        } catch (const css::uno::Exception& e) {
            throw Error(errors::CannotStartOffice,
                        "Kontorpakkens UNO-bibliotek kan ikke indlæses fra " + programDir.string() +
                            ": " + officeMessage(e.Message));
        }
    }();
    return context;
}

std::string officeMessage(const rtl::OUString& message) {
    static const std::regex location(R"(\s*\bat \./\S+:\d+)");
    std::string text = std::regex_replace(toStd(message), location, "");
    while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
    return text;
}

rtl::OUString fileUrl(const std::string& systemPath) {
    return toOU(libreoffice::fileUrl(systemPath));
}

std::string systemPath(const rtl::OUString& fileUrl) {
    rtl::OUString path;
    if (osl::FileBase::getSystemPathFromFileURL(fileUrl, path) != osl::FileBase::E_None) {
        return toStd(fileUrl);
    }
    return toStd(path);
}

std::string uniquePipeName() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    return "pravelo_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) + "_" +
           std::to_string(random());
}

std::vector<std::string> headlessArgs(const std::string& pipeName, const std::string& profileUrl) {
    return {"--headless",
            "--invisible",
            "--norestore",
            "--nologo",
            "--nodefault",
            "--nolockcheck",
            "--accept=pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext",
            "-env:UserInstallation=" + profileUrl};
}

Connection connect(OfficeProcess& office, const std::string& pipeName,
                   const std::filesystem::path& programDir, std::chrono::milliseconds limit) {
    const auto local = localContext(programDir);
    // Where the office's pipe library puts the socket of a named pipe.
    const std::string socket = "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_" + pipeName;
    const auto until = std::chrono::steady_clock::now() + limit;
    // A call into an office that hangs while it starts ends when the office is killed.
    Watchdog watchdog(limit, [&office] { office.killGroup(); });
    while (true) {
        if (!office.running()) {
            const int status = office.exitStatus();
            const bool missing = WIFEXITED(status) && WEXITSTATUS(status) == 127;
            throw Error(errors::CannotStartOffice,
                        missing ? "Kontorpakken kan ikke startes (er LibreOffice installeret?)"
                                : "Kontorpakken stoppede, før den kunne bruges (slutstatus " +
                                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status)
                                                                       : 128 + WTERMSIG(status)) +
                                      ")");
        }
        const auto owner = socketOwner(socket, office.processGroup());
        if (owner != SocketOwner::NotListening) {
            if (owner == SocketOwner::Other) {
                throw Error(errors::CannotStartOffice,
                            "Kontorpakkens forbindelse " + pipeName +
                                " betjenes af en proces, som dette program ikke har startet");
            }
            try {
                auto connection = css::connection::Connector::create(local)->connect(
                    toOU("pipe,name=" + pipeName));
                auto bridge = css::bridge::BridgeFactory::create(local)->createBridge(
                    rtl::OUString(), "urp", connection, nullptr);
                Connection result;
                result.bridge.set(bridge, UNO_QUERY_THROW);
                result.context.set(bridge->getInstance("StarOffice.ComponentContext"),
                                   UNO_QUERY_THROW);
                result.desktop = css::frame::Desktop::create(result.context);
                return result;
            } catch (const css::connection::NoConnectException&) {
            } catch (const css::uno::Exception& e) {
                if (watchdog.expired()) break;
                throw Error(
                    errors::CannotStartOffice,
                    "Der er ingen forbindelse til kontorpakken: " + officeMessage(e.Message));
            }
        }
        if (std::chrono::steady_clock::now() >= until || watchdog.expired()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    throw Error(errors::TimedOut, "Kontorpakken svarede ikke inden for " +
                                      std::to_string(limit.count() / 1000) + " s");
}

std::vector<std::string> officeSockets(const std::string& pipeName, const std::string& profileUrl) {
    const std::string prefix = "/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_";
    // The office names its single-instance pipe after the MD5 of the profile
    // URL in UTF-16, each byte in hex without padding.
    const rtl::OUString url = toOU(profileUrl);
    sal_uInt8 md5[RTL_DIGEST_LENGTH_MD5];
    rtl_digest_MD5(url.getStr(), static_cast<sal_uInt32>(url.getLength()) * sizeof(sal_Unicode),
                   md5, sizeof md5);
    std::string hash;
    char hex[4];
    for (const auto byte : md5) {
        std::snprintf(hex, sizeof hex, "%x", byte);
        hash += hex;
    }
    return {prefix + pipeName, prefix + "SingleOfficeIPC_" + hash};
}

void disposeQuietly(const Reference<css::lang::XComponent>& component) {
    if (!component.is()) return;
    try {
        component->dispose();
    } catch (...) {
    }
}

}  // namespace pravelo::platform::libreoffice::uno
