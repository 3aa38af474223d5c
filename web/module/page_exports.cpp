// The page's module: the functions its script calls, over one Page. Texts go
// both ways as UTF-8; a returned text lives until the next call returns one.

#include <emscripten/emscripten.h>

#include <memory>
#include <string>

#include "web/page.h"

namespace {

std::unique_ptr<waitline::web::Page> page;
std::string answer;

const char* Answer(std::string text)
{
    answer = std::move(text);
    return answer.c_str();
}

template <typename Id>
Id IdOf(int index)
{
    return static_cast<Id>(index);
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* wl_layout() { return Answer(waitline::web::Page::LayoutJson()); }

// The seed comes as text: a JavaScript number cannot hold every 64-bit seed.
EMSCRIPTEN_KEEPALIVE void wl_start(const char* seed)
{
    page = std::make_unique<waitline::web::Page>(std::stoull(seed));
}

EMSCRIPTEN_KEEPALIVE const char* wl_read_address(const char* query) { return Answer(page->readAddress(query)); }
EMSCRIPTEN_KEEPALIVE const char* wl_state() { return Answer(page->stateJson()); }
EMSCRIPTEN_KEEPALIVE int wl_state_changed() { return page->stateChanged() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE const float* wl_packets() { return page->packets(); }
EMSCRIPTEN_KEEPALIVE const char* wl_analysis() { return Answer(page->analysisJson()); }

EMSCRIPTEN_KEEPALIVE int wl_type(int box, const char* text)
{
    return page->typeText(IdOf<waitline::ComboId>(box), text) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int wl_choose(int box, const char* entry)
{
    return page->chooseEntry(IdOf<waitline::ComboId>(box), entry) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void wl_click(int button) { page->click(IdOf<waitline::ButtonId>(button)); }
EMSCRIPTEN_KEEPALIVE int wl_move_event() { return page->moveEvent(); }
EMSCRIPTEN_KEEPALIVE int wl_check_event() { return page->checkEvent() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int wl_step() { return page->step() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE void wl_set_speed(int speed) { page->setSpeed(waitline::kLectureSpeeds.at(speed)); }
EMSCRIPTEN_KEEPALIVE int wl_messages_waiting() { return page->messagesWaiting() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE void wl_follow_run(int open) { page->followRun(open != 0); }
}
