#include "plugins/iwi_plugin.h"

#include "plugins/iwi_handler.h"

QImageIOPlugin::Capabilities IwiPlugin::capabilities(QIODevice* device,
                                                     const QByteArray& format) const {
    if (format == "iwi") {
        return CanRead;
    }
    if (!format.isEmpty() || device == nullptr || !device->isReadable()) {
        return {};
    }
    return IwiHandler::CanRead(device) ? CanRead : Capabilities();
}

QImageIOHandler* IwiPlugin::create(QIODevice* device, const QByteArray& format) const {
    auto* handler = new IwiHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
