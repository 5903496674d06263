#pragma once
// The spoken prompts of guidance: which WAVE resource says a maneuver or a
// distance, and the audio worker that says them. A prompt is the maneuver
// sound, played to its end, then the distance sound, started and left playing;
// the worker keeps that order across prompts while the caller (the tick, under
// the controller lock) goes on at once.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

class CVoicePrompts {
public:
    CVoicePrompts() = default;
    // Lets the prompt being spoken finish and drops the rest.
    ~CVoicePrompts();
    CVoicePrompts(const CVoicePrompts&) = delete;
    CVoicePrompts& operator=(const CVoicePrompts&) = delete;

    // Queues a prompt; 0 stands for no sound.
    void Say(int maneuverWave, int distanceWave);
    // Blocks until every queued prompt has been handed to the sound output.
    void WaitUntilIdle();

    // The maneuver sound of a picture in a language (0 English, 1 Russian; a
    // final prompt has its own Russian recordings); 0 when there is none.
    static int ManeuverWave(int32_t picture, int language, bool final);
    // The distance sound of one of the prompt distances; 0 for any other.
    static int DistanceWave(int32_t metres, int language);

private:
    struct Prompt {
        int maneuver;
        int distance;
    };
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Prompt> m_queue;
    bool m_speaking = false;
    bool m_stop = false;
    std::thread m_worker;
};
