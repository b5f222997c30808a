#include "player/remote/RemoteListener.h"

RemoteServer::Result RemoteListener::start(const std::string& path, Handler h, std::string& error) {
    stop();
    RemoteServer::Result result = server.listen(path, error);
    if (result != RemoteServer::Result::Listening) {
        return result;
    }
    handler = std::move(h);
    quit = false;
    worker = std::thread([this] {
        while (!quit) {
            for (const RemoteRequest& r : server.poll(50)) {
                handler(r);
            }
        }
    });
    return result;
}

void RemoteListener::stop() {
    quit = true;
    if (worker.joinable()) {
        worker.join();
    }
    server.close();
}
