#include "platform/qt/qt_http_get.h"

#include "base/cp1252.h"

#include <QEventLoop>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace kavex {
namespace {

// The proxy the system would use for each request; set on this manager only, so no
// process-wide setting changes.
class SystemProxies : public QNetworkProxyFactory {
  public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

} // namespace

QtHttpGet::QtHttpGet(int timeoutMs) : timeoutMs_(timeoutMs) {
    manager_.setProxyFactory(new SystemProxies); // the manager takes ownership
}

std::string QtHttpGet::get(const std::string& url) {
    QNetworkRequest request(QUrl(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()))));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setTransferTimeout(timeoutMs_);

    std::unique_ptr<QNetworkReply> reply(manager_.get(request));
    QEventLoop wait;
    QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
    // The transfer timeout counts from the last byte moved; this bounds the whole call.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
    deadline.start(timeoutMs_);
    if (!reply->isFinished()) wait.exec();

    if (reply->error() != QNetworkReply::NoError) return {};
    QByteArray body = reply->readAll();
    return cp1252::toUtf8(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
}

} // namespace kavex
