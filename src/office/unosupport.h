#pragma once

// UNO plumbing shared by the LibreOffice implementations. Only the office
// library's own sources include this header.

#include "office/officeerror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <initializer_list>
#include <mutex>
#include <rtl/ustring.hxx>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace zs {

namespace css = ::com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using ::rtl::OUString;

inline OUString toOU(const QString& s) {
    return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size());
}
inline QString toQ(const OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}
inline OUString fileUrl(const QString& path) {
    return toOU(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value);

// A sequence of properties written as a list.
inline css::uno::Sequence<css::beans::PropertyValue> properties(std::initializer_list<css::beans::PropertyValue> list) {
    return css::uno::Sequence<css::beans::PropertyValue>(list.begin(), sal_Int32(list.size()));
}

// Closes a document without asking, and forgets it. The office may already be
// gone; the document counts as closed either way.
void closeDocument(Reference<css::lang::XComponent>& component);

// The office process and the bridge to it.
class UnoSession {
public:
    UnoSession() = default;
    ~UnoSession();

    // The remote desktop, starting the office first if needed.
    Reference<css::frame::XDesktop2> desktop();
    Reference<css::uno::XComponentContext> context();
    void stop();

    // Loads a document hidden ("private:factory/swriter" etc. for new ones).
    // A filter name and its options choose how a file is read (a text file's
    // separators and character set); empty ones let the office detect it.
    Reference<css::lang::XComponent> load(const OUString& url, const OUString& filter = {},
                                          const OUString& filterOptions = {});

    // See LibreOffice::removeStaleProfiles.
    static QStringList removeStaleProfiles(const QString& tempFolder);
    static QStringList removeStalePipes(const QString& pipeFolder);

private:
    void start();  // with mutex_ held
    void launch(const std::vector<QByteArray>& args, const std::vector<QByteArray>& env);
    bool alive() const;

    std::recursive_mutex mutex_;
    Reference<css::uno::XComponentContext> remoteContext_;
    Reference<css::frame::XDesktop2> desktop_;
    QString profileDir_;
    QString pipeName_;
    pid_t pid_ = -1;
    std::atomic<bool> exited_{true};
    std::atomic<int> exitStatus_{0};
    std::thread reaper_;
};

// The reason of an office failure as the teacher reads it: the office's own
// words for failures it gives in English (the file it could not recognise,
// read or write), else its message as it is.
QString officeReason(const QString& message);

// Runs an office call and turns UNO failures into OfficeError with `what` as
// the teacher's explanation.
template <typename F> auto unoCall(const QString& what, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const css::uno::Exception& e) {
        throw OfficeError(what + u'\r' + officeReason(toQ(e.Message)));
    }
}

}  // namespace zs
