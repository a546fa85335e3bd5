#include "engine/ChannelQueues.h"

namespace {

// Spare sound blocks kept beyond this are freed: the queue never holds more than 17.
constexpr std::size_t kSpareLimit = 24;

} // namespace

void ChannelQueues::SetListener(Listener listener) {
    const std::lock_guard<std::mutex> guard(m_listenerLock);
    m_listener = std::move(listener);
}

void ChannelQueues::Tell() {
    const std::lock_guard<std::mutex> guard(m_listenerLock);
    if (m_listener) {
        m_listener();
    }
}

void ChannelQueues::PushPicture(std::unique_ptr<PictureRecord> record) {
    {
        const std::lock_guard<std::mutex> guard(m_pictureLock);
        m_pictures.push_back(std::move(record));
    }
    Tell();
}

bool ChannelQueues::PeekPictureTime(std::int64_t& timeMs) {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    if (m_pictures.empty()) {
        return false;
    }
    timeMs = m_pictures.front()->frame.llTime;
    return true;
}

std::unique_ptr<PictureRecord> ChannelQueues::TakePicture() {
    std::unique_ptr<PictureRecord> record;
    {
        const std::lock_guard<std::mutex> guard(m_pictureLock);
        if (m_pictures.empty()) {
            return nullptr;
        }
        record = std::move(m_pictures.front());
        m_pictures.pop_front();
    }
    Notify();  // room for the worker
    return record;
}

std::size_t ChannelQueues::PictureCount() {
    const std::lock_guard<std::mutex> guard(m_pictureLock);
    return m_pictures.size();
}

void ChannelQueues::FlushPictures() {
    std::deque<std::unique_ptr<PictureRecord>> flushed;
    {
        const std::lock_guard<std::mutex> guard(m_pictureLock);
        flushed.swap(m_pictures);
    }
    Notify();
}

void ChannelQueues::PushSound(std::unique_ptr<SoundBlock> block) {
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        m_sounds.push_back(std::move(block));
    }
    Tell();
}

std::size_t ChannelQueues::SoundCount() {
    const std::lock_guard<std::mutex> guard(m_soundLock);
    return m_sounds.size();
}

std::unique_ptr<SoundBlock> ChannelQueues::TakeSound(std::uint64_t& generation) {
    std::unique_ptr<SoundBlock> block;
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        generation = m_soundGeneration;
        if (m_sounds.empty()) {
            return nullptr;
        }
        block = std::move(m_sounds.front());
        m_sounds.pop_front();
    }
    Notify();
    return block;
}

void ChannelQueues::ReturnSound(std::unique_ptr<SoundBlock> block, std::uint64_t generation) {
    const std::lock_guard<std::mutex> guard(m_soundLock);
    if (generation == m_soundGeneration) {
        m_sounds.push_front(std::move(block));
    } else if (m_spare.size() < kSpareLimit) {
        m_spare.push_back(std::move(block));
    }
}

void ChannelQueues::RecycleSound(std::unique_ptr<SoundBlock> block) {
    const std::lock_guard<std::mutex> guard(m_soundLock);
    if (block && m_spare.size() < kSpareLimit) {
        m_spare.push_back(std::move(block));
    }
}

std::unique_ptr<SoundBlock> ChannelQueues::SpareSound() {
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        if (!m_spare.empty()) {
            auto block = std::move(m_spare.back());
            m_spare.pop_back();
            return block;
        }
    }
    return std::make_unique<SoundBlock>();
}

void ChannelQueues::ClearSounds() {
    {
        const std::lock_guard<std::mutex> guard(m_soundLock);
        ++m_soundGeneration;
        while (!m_sounds.empty()) {
            if (m_spare.size() < kSpareLimit) {
                m_spare.push_back(std::move(m_sounds.front()));
            }
            m_sounds.pop_front();
        }
    }
    Notify();
}

std::uint64_t ChannelQueues::Generation() {
    const std::lock_guard<std::mutex> guard(m_wakeLock);
    return m_generation;
}

void ChannelQueues::Wake() {
    Notify();
}

void ChannelQueues::Notify() {
    {
        const std::lock_guard<std::mutex> guard(m_wakeLock);
        ++m_generation;
    }
    m_wake.notify_all();
}

void ChannelQueues::WaitForChange(std::uint64_t seen, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_wakeLock);
    m_wake.wait_for(lock, limit, [&] { return m_generation != seen; });
}
