#include "nav/voice_prompts.h"

#include "platform/sound.h"

#include <algorithm>
#include <iterator>

namespace {

struct ManeuverSound {
    int32_t first;
    int32_t last;
    int english;
    int russian;
    int russianFinal;
};

constexpr ManeuverSound kManeuverSounds[] = {
    { 13302, 13302, 683, 528, 528 },
    { 13303, 13306, 689, 527, 527 },
    { 13307, 13310, 687, 525, 525 },
    { 13311, 13313, 686, 524, 682 },
    { 13316, 13319, 688, 526, 526 },
    { 13320, 13323, 684, 522, 522 },
    { 13324, 13326, 685, 523, 681 },
    { 13328, 13328, 690, 521, 521 },
};

struct DistanceSound {
    int32_t metres;
    int english;
    int russian;
};

constexpr DistanceSound kDistanceSounds[] = {
    { 30, 698, 530 },
    { 40, 701, 531 },
    { 50, 704, 532 },
    { 60, 699, 533 },
    { 70, 707, 534 },
    { 80, 708, 535 },
    { 90, 709, 536 },
    { 100, 691, 529 },
    { 120, 692, 544 },
    { 140, 693, 538 },
    { 160, 694, 539 },
    { 180, 695, 540 },
    { 200, 696, 541 },
    { 250, 697, 542 },
    { 300, 706, 543 },
    { 350, 700, 537 },
    { 400, 702, 547 },
    { 450, 703, 546 },
    { 500, 705, 545 },
};

} // namespace

CVoicePrompts::~CVoicePrompts()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void CVoicePrompts::Say(int maneuverWave, int distanceWave)
{
    if (maneuverWave == 0 && distanceWave == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({ maneuverWave, distanceWave });
        if (!m_worker.joinable())
            m_worker = std::thread([this] { Run(); });
    }
    m_wake.notify_one();
}

void CVoicePrompts::WaitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_speaking; });
}

void CVoicePrompts::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            break;
        const Prompt prompt = m_queue.front();
        m_queue.pop_front();
        m_speaking = true;
        lock.unlock();
        // A sound that cannot be played is passed over.
        if (prompt.maneuver != 0)
            platform::PlaySoundResource(prompt.maneuver, platform::SND_RESOURCE);
        if (prompt.distance != 0)
            platform::PlaySoundResource(prompt.distance, platform::SND_RESOURCE | platform::SND_ASYNC);
        lock.lock();
        m_speaking = false;
        if (m_queue.empty())
            m_idle.notify_all();
    }
    m_speaking = false;
    m_idle.notify_all();
}

int CVoicePrompts::ManeuverWave(int32_t picture, int language, bool final)
{
    const auto it = std::find_if(std::begin(kManeuverSounds), std::end(kManeuverSounds),
        [picture](const ManeuverSound& s) { return picture >= s.first && picture <= s.last; });
    if (it == std::end(kManeuverSounds))
        return 0;
    if (language == 0)
        return it->english;
    if (language == 1)
        return final ? it->russianFinal : it->russian;
    return 0;
}

int CVoicePrompts::DistanceWave(int32_t metres, int language)
{
    const auto it = std::find_if(std::begin(kDistanceSounds), std::end(kDistanceSounds),
        [metres](const DistanceSound& s) { return s.metres == metres; });
    if (it == std::end(kDistanceSounds))
        return 0;
    return language == 0 ? it->english : language == 1 ? it->russian : 0;
}
