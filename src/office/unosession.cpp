#include "office/leftovers.h"
#include "office/unosupport.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <condition_variable>
#include <cppuhelper/bootstrap.hxx>
#include <csignal>
#include <cstdlib>
#include <langinfo.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zs {

namespace {

const char* const kOfficeBinary = "/usr/lib/libreoffice/program/soffice.bin";
constexpr int kRestartStatus = 81;  // the office's "restart after first start"
// A private profile is named after the program's process: kProfilePrefix +
// "zhuoshi_" + pid + "_" + counter.
const char* const kProfilePrefix = "zhuoshi-office-";
const char* const kFundamentalRc = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";

QString missingOfficeMessage() {
    return QStringLiteral("找不到 LibreOffice，无法读写 Word 文档和 Excel 表格。\r"
                          "请先安装 LibreOffice（运行 scripts/install-deps.sh），然后再试。");
}

// The process-wide local UNO context, made once.
Reference<css::uno::XComponentContext> localContext() {
    static std::once_flag once;
    static Reference<css::uno::XComponentContext> context;
    static QString failure;
    std::call_once(once, [] {
        ::setenv("URE_BOOTSTRAP", kFundamentalRc, 0);
        try {
            context = ::cppu::defaultBootstrap_InitialComponentContext();
        } catch (const css::uno::Exception& e) {
            failure = toQ(e.Message);
        }
    });
    if (!context.is())
        throw OfficeError(QStringLiteral("无法初始化 LibreOffice 组件：%1").arg(failure));
    return context;
}

// Files the office reads from its private profile folder: the locale of the
// office (zh-CN, also the language of Asian text) in the profile's settings,
// and a font configuration that adds this program's aliases for the Chinese
// font names of Word documents to the system's configuration.
void prepareProfile(const QString& profileDir) {
    const QDir profile(profileDir);
    profile.mkpath(QStringLiteral("user"));
    profile.mkpath(QStringLiteral("fonts"));
    const QString settings = profile.filePath(QStringLiteral("user/registrymodifications.xcu"));
    // Copies of resources are read-only; the office rewrites its settings.
    const auto writable = QFile::ReadOwner | QFile::WriteOwner;
    if (!QFileInfo::exists(settings) && QFile::copy(QStringLiteral(":/office/registrymodifications.xcu"), settings))
        QFile::setPermissions(settings, writable);
    const QString aliases = profile.filePath(QStringLiteral("fonts/zhuoshi-fonts.conf"));
    QFile::remove(aliases);
    if (QFile::copy(QStringLiteral(":/office/fonts.conf"), aliases))
        QFile::setPermissions(aliases, writable);
    QString system = qEnvironmentVariable("FONTCONFIG_FILE");
    if (system.isEmpty() || !QFileInfo::exists(system))
        system = QStringLiteral("/etc/fonts/fonts.conf");
    QFile config(profile.filePath(QStringLiteral("fonts/fonts.conf")));
    if (config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        config.write(QStringLiteral("<?xml version=\"1.0\"?>\n"
                                    "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                                    "<fontconfig>\n"
                                    "  <include ignore_missing=\"yes\">%1</include>\n"
                                    "  <include ignore_missing=\"yes\">%2</include>\n"
                                    "</fontconfig>\n")
                         .arg(system.toHtmlEscaped(), aliases.toHtmlEscaped())
                         .toUtf8());
}

// Whether the locale the environment names for characters is installed and
// writes UTF-8.
bool utf8CharacterLocale() {
    QByteArray name = qgetenv("LC_ALL");
    if (name.isEmpty())
        name = qgetenv("LC_CTYPE");
    if (name.isEmpty())
        name = qgetenv("LANG");
    if (name.isEmpty())
        return false;  // the C locale: ASCII
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (!locale)
        return false;
    const QByteArray codeset = ::nl_langinfo_l(CODESET, locale);
    ::freelocale(locale);
    return codeset == "UTF-8";
}

// The environment of the office process: ours, with the font configuration
// of its profile. The office turns the file URLs it is given into file names
// in the encoding of its character locale: when the teacher's locale is not
// installed (or not UTF-8) it would fall back to ASCII and fail on every
// Chinese name, so it gets the UTF-8 character locale every system has.
std::vector<QByteArray> officeEnvironment(const QString& profileDir) {
    const bool keepLocale = utf8CharacterLocale();
    std::vector<QByteArray> env;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("FONTCONFIG_FILE="))
            continue;
        if (!keepLocale && (entry.startsWith("LC_ALL=") || entry.startsWith("LC_CTYPE=")))
            continue;
        env.push_back(entry);
    }
    if (!keepLocale)
        env.push_back("LC_CTYPE=C.UTF-8");
    env.push_back("FONTCONFIG_FILE=" +
                  QFile::encodeName(QDir(profileDir).filePath(QStringLiteral("fonts/fonts.conf"))));
    return env;
}

}  // namespace

QString officeReason(const QString& message) {
    if (message.contains(QStringLiteral("type detection failed")) ||
        message.contains(QStringLiteral("Unsupported URL")))
        return QStringLiteral(
            "LibreOffice 认不出这个文件：它可能不是文档、已经损坏，或者它的名字没能传给 LibreOffice。");
    if (message.contains(QStringLiteral("Error Area:Io"))) {
        if (message.contains(QStringLiteral("Class:Access")))
            return QStringLiteral("无法读写这个文件：文件夹可能不能写入，或者文件正被别的程序使用。");
        return QStringLiteral("读写这个文件时出错，磁盘可能已满或者文件已经损坏。");
    }
    return message;
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

void closeDocument(Reference<css::lang::XComponent>& component) {
    if (!component.is())
        return;
    try {
        Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            component->dispose();
    } catch (...) {
        // Nothing is left to close.
    }
    component.clear();
}

UnoSession::~UnoSession() {
    stop();
}

bool UnoSession::alive() const {
    if (!desktop_.is())
        return false;
    try {
        // A cheap remote call that fails once the bridge is gone.
        desktop_->getComponents();
        return true;
    } catch (const css::uno::Exception&) {
        return false;
    }
}

Reference<css::frame::XDesktop2> UnoSession::desktop() {
    std::lock_guard lock(mutex_);
    if (!alive()) {
        stop();
        start();
    }
    return desktop_;
}

Reference<css::uno::XComponentContext> UnoSession::context() {
    desktop();
    std::lock_guard lock(mutex_);
    return remoteContext_;
}

void UnoSession::launch(const std::vector<QByteArray>& args, const std::vector<QByteArray>& env) {
    // The process is started by a thread that lives exactly as long as it:
    // the office is killed when that thread's process dies, and the thread reaps it.
    std::mutex startMutex;
    std::condition_variable started;
    std::atomic<pid_t> childPid{0};
    const pid_t parent = ::getpid();
    reaper_ = std::thread([&, args, env, parent] {
        std::vector<char*> argv;
        for (const QByteArray& a : args)
            argv.push_back(const_cast<char*>(a.constData()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const QByteArray& e : env)
            envp.push_back(const_cast<char*>(e.constData()));
        envp.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(1);
            ::setpgid(0, 0);
            ::execve(kOfficeBinary, argv.data(), envp.data());
            ::_exit(127);
        }
        if (pid > 0)
            exited_ = false;
        {
            std::lock_guard l(startMutex);
            childPid = pid < 0 ? -1 : pid;
            started.notify_one();
        }
        if (pid > 0) {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            exited_ = true;
        }
    });
    {
        std::unique_lock l(startMutex);
        started.wait(l, [&] { return childPid != 0; });
    }
    pid_ = childPid;
    if (pid_ < 0) {
        reaper_.join();
        throw OfficeError(QStringLiteral("无法启动 LibreOffice。"));
    }
}

void UnoSession::start() {
    if (!QFileInfo::exists(QString::fromUtf8(kOfficeBinary)))
        throw OfficeError(missingOfficeMessage());

    static QAtomicInt counter;
    pipeName_ = QStringLiteral("zhuoshi_%1_%2").arg(::getpid()).arg(counter.fetchAndAddRelaxed(1));
    profileDir_ = QDir::temp().filePath(QString::fromLatin1(kProfilePrefix) + pipeName_);
    QDir().mkpath(profileDir_);
    prepareProfile(profileDir_);
    const std::vector<QByteArray> env = officeEnvironment(profileDir_);

    const QByteArray profileArg =
        "-env:UserInstallation=" + QUrl::fromLocalFile(profileDir_).toString(QUrl::FullyEncoded).toUtf8();
    const QByteArray acceptArg = "--accept=pipe,name=" + pipeName_.toUtf8() + ";urp;StarOffice.ComponentContext";
    std::vector<QByteArray> args = {kOfficeBinary, "--headless",    "--invisible", "--norestore", "--nologo",
                                    "--nodefault", "--nolockcheck", profileArg,    acceptArg};

    launch(args, env);

    const Reference<css::uno::XComponentContext> local = localContext();
    const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
    const OUString url = toOU(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName_));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    QString lastError;
    int restarts = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (exited_) {
            // A fresh profile makes the first start end with "restart needed".
            if (exitStatus_ == kRestartStatus && restarts++ < 2) {
                if (reaper_.joinable())
                    reaper_.join();
                launch(args, env);
                continue;
            }
            lastError = QStringLiteral("LibreOffice 进程意外退出（%1）").arg(exitStatus_.load());
            break;
        }
        try {
            remoteContext_.set(resolver->resolve(url), UNO_QUERY);
            if (remoteContext_.is())
                break;
        } catch (const css::uno::Exception& e) {
            lastError = toQ(e.Message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!remoteContext_.is()) {
        stop();
        throw OfficeError(QStringLiteral("无法连接 LibreOffice：%1").arg(lastError));
    }
    desktop_ = css::frame::Desktop::create(remoteContext_);
}

void UnoSession::stop() {
    std::lock_guard lock(mutex_);
    if (desktop_.is()) {
        try {
            desktop_->terminate();
        } catch (...) {
            // The bridge goes down while the office quits; that is expected.
        }
    }
    desktop_.clear();
    remoteContext_.clear();
    if (pid_ > 0) {
        // Give the office a moment to quit by itself, then make sure.
        for (int i = 0; i < 50 && !exited_; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!exited_) {
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);
        }
    }
    if (reaper_.joinable())
        reaper_.join();
    pid_ = -1;
    if (!profileDir_.isEmpty()) {
        QDir(profileDir_).removeRecursively();
        profileDir_.clear();
    }
}

QStringList UnoSession::removeStaleProfiles(const QString& tempFolder) {
    return removeLeftoversOfGonePrograms(tempFolder, QString::fromLatin1(kProfilePrefix) + QStringLiteral("zhuoshi_"),
                                         u'_', QDir::Dirs);
}

QStringList UnoSession::removeStalePipes(const QString& pipeFolder) {
    return removeLeftoversOfGonePrograms(pipeFolder, QStringLiteral("OSL_PIPE_%1_zhuoshi_").arg(::getuid()), u'_',
                                         QDir::System | QDir::Files);
}

Reference<css::lang::XComponent> UnoSession::load(const OUString& url, const OUString& filter,
                                                  const OUString& filterOptions) {
    const Reference<css::frame::XComponentLoader> loader(desktop(), UNO_QUERY_THROW);
    const auto args =
        filter.isEmpty()
            ? properties({property("Hidden", css::uno::Any(true))})
            : properties({property("Hidden", css::uno::Any(true)), property("FilterName", css::uno::Any(filter)),
                          property("FilterOptions", css::uno::Any(filterOptions))});
    Reference<css::lang::XComponent> doc = loader->loadComponentFromURL(url, "_blank", 0, args);
    if (!doc.is())
        throw OfficeError(QStringLiteral("无法打开文档：%1").arg(toQ(url)));
    return doc;
}

}  // namespace zs
