// What a command hands to the core: the canvas, the prompter and the package folders.
#pragma once

namespace velta {

class Surface;
class Prompter;
class AppPaths;

struct Ctx {
    Surface& surf;
    Prompter& ui;
    const AppPaths& paths;
};

}  // namespace velta
