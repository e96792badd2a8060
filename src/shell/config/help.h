#pragma once
// The help pages, opened in the desktop's browser.
#include <string>

// The page "<current folder>/Vestrel_n.htm" with the topic's anchor; topics without one give the page's top.
std::string helpTopicUrl(int topic);
void showHelpTopic(int topic);
