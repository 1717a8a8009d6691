// What a command hands to the core: the canvas, the prompter, the package folders and the store.
#pragma once

namespace velta {

class Surface;
class Prompter;
class AppPaths;
struct Store;

struct Ctx {
    Surface& surf;
    Prompter& ui;
    const AppPaths& paths;
    // The parameter store the command works on: the front end's one instance.
    Store& store;
};

}  // namespace velta
