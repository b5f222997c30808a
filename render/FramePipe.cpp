#include "render/FramePipe.h"

#include "platform/window/GLContext.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

// The pixel buffer entry points (GL 2.1), when the context has them.
struct BufferCalls {
    PFNGLGENBUFFERSPROC gen = nullptr;
    PFNGLDELETEBUFFERSPROC remove = nullptr;
    PFNGLBINDBUFFERPROC bind = nullptr;
    PFNGLBUFFERDATAPROC data = nullptr;
    PFNGLMAPBUFFERPROC map = nullptr;
    PFNGLUNMAPBUFFERPROC unmap = nullptr;

    bool load() {
        gen = reinterpret_cast<PFNGLGENBUFFERSPROC>(wglGetProcAddress("glGenBuffers"));
        remove = reinterpret_cast<PFNGLDELETEBUFFERSPROC>(wglGetProcAddress("glDeleteBuffers"));
        bind = reinterpret_cast<PFNGLBINDBUFFERPROC>(wglGetProcAddress("glBindBuffer"));
        data = reinterpret_cast<PFNGLBUFFERDATAPROC>(wglGetProcAddress("glBufferData"));
        map = reinterpret_cast<PFNGLMAPBUFFERPROC>(wglGetProcAddress("glMapBuffer"));
        unmap = reinterpret_cast<PFNGLUNMAPBUFFERPROC>(wglGetProcAddress("glUnmapBuffer"));
        return gen && remove && bind && data && map && unmap;
    }
};

BufferCalls gl;

bool hasPixelBuffers() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    bool listed =
        (version != nullptr && (version[0] > '2' || (version[0] == '2' && version[2] >= '1'))) ||
        (extensions != nullptr && std::strstr(extensions, "GL_ARB_pixel_buffer_object"));
    return listed && gl.load();
}

} // namespace

FramePipe::FramePipe(FrameSink& s, int w, int h)
    : sink(s), width(w), height(h), frameBytes(static_cast<size_t>(w) * h * 4) {
    usePbo = hasPixelBuffers();
    if (usePbo) {
        for (Pending& p : pending) {
            gl.gen(1, &p.buffer);
            gl.bind(GL_PIXEL_PACK_BUFFER, p.buffer);
            gl.data(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(frameBytes), nullptr,
                    GL_STREAM_READ);
        }
        gl.bind(GL_PIXEL_PACK_BUFFER, 0);
    }
    worker = std::thread([this] { run(); });
}

FramePipe::~FramePipe() {
    {
        std::lock_guard<std::mutex> g(lock);
        stopping = true;
    }
    changed.notify_all();
    worker.join();
    if (usePbo) {
        for (Pending& p : pending) {
            gl.remove(1, &p.buffer);
        }
    }
}

bool FramePipe::capture(std::vector<float> audio) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    if (!usePbo) {
        Job job;
        job.pixels.resize(frameBytes);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, job.pixels.data());
        job.audio = std::move(audio);
        push(std::move(job));
    } else {
        // Start this frame's read into its buffer, then collect the one before.
        Pending& now = pending[next];
        gl.bind(GL_PIXEL_PACK_BUFFER, now.buffer);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        gl.bind(GL_PIXEL_PACK_BUFFER, 0);
        now.audio = std::move(audio);
        now.used = true;
        next = 1 - next;
        fetch(pending[next]);
    }
    std::lock_guard<std::mutex> g(lock);
    return !failed;
}

void FramePipe::fetch(Pending& p) {
    if (!p.used) {
        return;
    }
    Job job;
    {
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [this] { return inFlight < kSlots || failed; });
        if (!spare.empty()) {
            job.pixels = std::move(spare.back());
            spare.pop_back();
        }
    }
    job.pixels.resize(frameBytes);
    gl.bind(GL_PIXEL_PACK_BUFFER, p.buffer);
    const void* mapped = gl.map(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    if (mapped != nullptr) {
        std::memcpy(job.pixels.data(), mapped, frameBytes);
        gl.unmap(GL_PIXEL_PACK_BUFFER);
    }
    gl.bind(GL_PIXEL_PACK_BUFFER, 0);
    job.audio = std::move(p.audio);
    p.used = false;
    push(std::move(job));
}

void FramePipe::push(Job job) {
    {
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [this] { return inFlight < kSlots || failed; });
        if (failed) {
            return;
        }
        ++inFlight;
        queue.push_back(std::move(job));
    }
    changed.notify_all();
}

bool FramePipe::finish() {
    if (usePbo) {
        fetch(pending[next]);
        next = 1 - next;
        fetch(pending[next]);
    }
    {
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [this] { return inFlight == 0 || failed; });
        if (failed) {
            return false;
        }
    }
    if (!sink.finish()) {
        std::lock_guard<std::mutex> g(lock);
        failed = true;
        failure = sink.error();
        return false;
    }
    return true;
}

int64_t FramePipe::framesDone() const {
    std::lock_guard<std::mutex> g(lock);
    return done;
}

std::string FramePipe::error() const {
    std::lock_guard<std::mutex> g(lock);
    return failure;
}

void FramePipe::run() {
    for (;;) {
        Job job;
        bool skip = false;
        {
            std::unique_lock<std::mutex> g(lock);
            changed.wait(g, [this] { return stopping || !queue.empty(); });
            if (queue.empty()) {
                return;
            }
            job = std::move(queue.front());
            queue.pop_front();
            skip = failed;
        }
        bool ok = !skip && sink.addFrame(job.pixels.data(), job.audio.data(),
                                         static_cast<long>(job.audio.size() / 2));
        {
            std::lock_guard<std::mutex> g(lock);
            --inFlight;
            if (ok) {
                ++done;
            } else if (!failed) {
                failed = true;
                failure = sink.error();
            }
            spare.push_back(std::move(job.pixels));
        }
        changed.notify_all();
    }
}
