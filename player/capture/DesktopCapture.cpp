#include "player/capture/DesktopCapture.h"

#include <pulse/pulseaudio.h>

#include <cmath>
#include <cstring>

const char* const DesktopCapture::kMsgNoServer =
    "No sound server is running; waiting for one to start.";
const char* const DesktopCapture::kMsgNoMonitor =
    "The sound server has no output to listen to (no monitor source); waiting for one.";
const char* const DesktopCapture::kMsgListening = "Listening to the desktop: ";
const char* const DesktopCapture::kMsgLost = "Lost the sound server; reconnecting.";
const char* const DesktopCapture::kMsgReconnected = "Reconnected to the sound server.";

namespace {

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// About -80 dB: anything quieter counts as silence.
constexpr float kSilence = 1e-4f;

} // namespace

// Everything here runs on the threaded main loop's thread, or under its lock.
struct DesktopCapture::Impl {
    DesktopCapture& owner;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* retry = nullptr;
    std::string streamSource;
    bool everReady = false; // this connection reached READY at least once
    bool lost = false;      // a ready connection went away and has not come back yet
    bool stopping = false;

    explicit Impl(DesktopCapture& o) : owner(o) {}

    pa_mainloop_api* api() { return pa_threaded_mainloop_get_api(loop); }

    void connect() {
        everReady = false;
        context = pa_context_new(api(), "tcplayer desktop listener");
        if (!context) {
            scheduleRetry();
            return;
        }
        pa_context_set_state_callback(context, &Impl::onContextState, this);
        const char* server = owner.options.server.empty() ? nullptr : owner.options.server.c_str();
        if (pa_context_connect(context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            connectionFailed();
        }
    }

    void dropStream() {
        if (!stream) {
            return;
        }
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
        streamSource.clear();
    }

    void dropContext() {
        dropStream();
        if (!context) {
            return;
        }
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }

    void scheduleRetry() {
        if (stopping || retry) {
            return;
        }
        timeval tv;
        pa_gettimeofday(&tv);
        pa_timeval_add(&tv, static_cast<pa_usec_t>(owner.options.retryDelay.count()) * 1000);
        retry = api()->time_new(api(), &tv, &Impl::onRetry, this);
    }

    void connectionFailed() {
        bool wasReady = everReady;
        dropContext();
        if (wasReady) {
            lost = true;
            owner.setStatus(State::NoServer, kMsgLost, "");
        } else if (!lost) {
            owner.setStatus(State::NoServer, kMsgNoServer, "");
        }
        scheduleRetry();
    }

    void refresh() {
        pa_operation* op = pa_context_get_server_info(context, &Impl::onServerInfo, this);
        if (op) {
            pa_operation_unref(op);
        }
    }

    void noMonitor() {
        dropStream();
        owner.setStatus(State::NoMonitor, kMsgNoMonitor, "");
    }

    void listenTo(const pa_sink_info& sink) {
        if (!sink.monitor_source_name || !*sink.monitor_source_name) {
            noMonitor();
            return;
        }
        std::string monitor = sink.monitor_source_name;
        std::string label = sink.description && *sink.description ? sink.description : sink.name;
        if (stream && streamSource == monitor) {
            return;
        }
        dropStream();
        pa_sample_spec format{PA_SAMPLE_FLOAT32NE, AudioSource::kRate, kChannels};
        stream = pa_stream_new(context, "Desktop audio for the visualization", &format, nullptr);
        if (!stream) {
            noMonitor();
            return;
        }
        pa_stream_set_state_callback(stream, &Impl::onStreamState, this);
        pa_stream_set_read_callback(stream, &Impl::onRead, this);
        pa_buffer_attr attr;
        std::memset(&attr, 0xff, sizeof attr);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(20000, &format));
        // DONT_MOVE: if the output goes away the stream ends instead of being moved by the
        // server to some other source, which could be a microphone.
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(stream, monitor.c_str(), &attr, flags) < 0) {
            dropStream();
            noMonitor();
            return;
        }
        streamSource = monitor;
        owner.setStatus(State::Listening, kMsgListening + label, monitor);
    }

    static void onRetry(pa_mainloop_api* a, pa_time_event* e, const timeval*, void* data) {
        auto* self = static_cast<Impl*>(data);
        a->time_free(e);
        self->retry = nullptr;
        if (!self->stopping) {
            self->connect();
        }
    }

    static void onContextState(pa_context* c, void* data) {
        auto* self = static_cast<Impl*>(data);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY: {
            self->everReady = true;
            if (self->lost) {
                self->lost = false;
                self->owner.setStatus(State::Connecting, kMsgReconnected, "");
            }
            pa_context_set_subscribe_callback(c, &Impl::onEvent, self);
            auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER |
                                                            PA_SUBSCRIPTION_MASK_SINK);
            pa_operation* op = pa_context_subscribe(c, mask, nullptr, nullptr);
            if (op) {
                pa_operation_unref(op);
            }
            self->refresh();
            break;
        }
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->connectionFailed();
            break;
        default:
            break;
        }
    }

    static void onEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* data) {
        // A new default output, or an output added or removed: look again.
        static_cast<Impl*>(data)->refresh();
    }

    static void onServerInfo(pa_context* c, const pa_server_info* info, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (!info || !info->default_sink_name || !*info->default_sink_name) {
            self->noMonitor();
            return;
        }
        pa_operation* op =
            pa_context_get_sink_info_by_name(c, info->default_sink_name, &Impl::onSinkInfo, self);
        if (op) {
            pa_operation_unref(op);
        } else {
            self->noMonitor();
        }
    }

    static void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (eol < 0) {
            self->noMonitor(); // the default output named by the server does not exist
        } else if (info) {
            self->listenTo(*info);
        }
    }

    static void onStreamState(pa_stream* s, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (s != self->stream) {
            return;
        }
        if (pa_stream_get_state(s) == PA_STREAM_FAILED) {
            // Its output went away: drop it and look for the current default again.
            self->dropStream();
            if (self->context && pa_context_get_state(self->context) == PA_CONTEXT_READY) {
                self->refresh();
            }
        }
    }

    static void onRead(pa_stream* s, size_t, void* data) {
        auto* self = static_cast<Impl*>(data);
        const void* bytes = nullptr;
        size_t length = 0;
        while (pa_stream_readable_size(s) > 0) {
            if (pa_stream_peek(s, &bytes, &length) < 0) {
                return;
            }
            if (length == 0) {
                return;
            }
            if (bytes) { // null is a hole in the recording: nothing to deliver
                size_t frames = length / (sizeof(float) * kChannels);
                self->owner.deliver(static_cast<const float*>(bytes), frames);
            }
            pa_stream_drop(s);
        }
    }
};

DesktopCapture::DesktopCapture(Options o) : options(std::move(o)) {}

DesktopCapture::~DesktopCapture() {
    stop();
}

bool DesktopCapture::start(FrameCallback cb) {
    if (impl) {
        return true;
    }
    callback = std::move(cb);
    impl = std::make_unique<Impl>(*this);
    impl->loop = pa_threaded_mainloop_new();
    if (!impl->loop) {
        impl.reset();
        return false;
    }
    setStatus(State::Connecting, "", "");
    pa_threaded_mainloop_lock(impl->loop);
    if (pa_threaded_mainloop_start(impl->loop) < 0) {
        pa_threaded_mainloop_unlock(impl->loop);
        pa_threaded_mainloop_free(impl->loop);
        impl.reset();
        return false;
    }
    impl->connect();
    pa_threaded_mainloop_unlock(impl->loop);
    return true;
}

void DesktopCapture::stop() {
    if (!impl) {
        return;
    }
    pa_threaded_mainloop_lock(impl->loop);
    impl->stopping = true;
    if (impl->retry) {
        impl->api()->time_free(impl->retry);
        impl->retry = nullptr;
    }
    impl->dropContext();
    pa_threaded_mainloop_unlock(impl->loop);
    pa_threaded_mainloop_stop(impl->loop);
    pa_threaded_mainloop_free(impl->loop);
    impl.reset();
    std::lock_guard<std::mutex> lock(statusMutex);
    current = State::Stopped;
    source.clear();
}

void DesktopCapture::setStatus(State s, const std::string& text, const std::string& src) {
    {
        std::lock_guard<std::mutex> lock(statusMutex);
        if (s == current && text == line && src == source) {
            return;
        }
        current = s;
        line = text;
        source = src;
    }
    if (options.onStatus && !text.empty()) {
        options.onStatus(s, text);
    }
}

void DesktopCapture::deliver(const float* frames, size_t frameCount) {
    size_t n = frameCount * kChannels;
    for (size_t i = 0; i < n; ++i) {
        if (std::fabs(frames[i]) > kSilence) {
            lastSoundMs.store(nowMs());
            break;
        }
    }
    if (callback) {
        callback(frames, frameCount, kChannels);
    }
}

DesktopCapture::State DesktopCapture::state() const {
    std::lock_guard<std::mutex> lock(statusMutex);
    return current;
}

std::string DesktopCapture::statusLine() const {
    std::lock_guard<std::mutex> lock(statusMutex);
    return line;
}

std::string DesktopCapture::sourceName() const {
    std::lock_guard<std::mutex> lock(statusMutex);
    return source;
}

bool DesktopCapture::soundArriving(std::chrono::milliseconds window) const {
    int64_t last = lastSoundMs.load();
    return last != INT64_MIN && nowMs() - last <= window.count();
}
