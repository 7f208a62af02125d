#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "app/main_window_presenter.h"
#include "render/renderer.h"
#include "render/scene.h"

namespace torvale {

// How the preview answers the mouse and the wheel.
inline constexpr float kDegreesPerPixel = 0.5f;  // a drag across 360 pixels turns the model half round
inline constexpr float kZoomPerNotch = 1.25f;    // one wheel notch (120 units) nearer or farther
inline constexpr float kMinZoom = 0.1f;
inline constexpr float kMaxZoom = 50.0f;
inline constexpr float kMaxPitch = 89.0f;  // straight over the top the yaw would lose its meaning
inline constexpr int kWheelNotch = 120;
// Where the preview starts and where Home goes back to: a little to the right of the model and above it, as
// torvale-cli render draws it, since straight from the front many models show only edges.
inline constexpr View kHomeView{30.0f, 20.0f, 1.0f};

// The Model Preview window without the window: the view, the options of the View menu, and the scene of the
// main window's current model, built when it is first drawn after the model changed. It follows the main
// window's presenter, which tells it of every load.
class PreviewPresenter final : public ModelListener {
public:
    explicit PreviewPresenter(MainWindowPresenter& main);
    ~PreviewPresenter() override;
    PreviewPresenter(const PreviewPresenter&) = delete;
    PreviewPresenter& operator=(const PreviewPresenter&) = delete;

    // Called after every change of what is drawn (model, view, options): the window redraws.
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    // A drag with the left button: from where it starts, each pixel turns the view by kDegreesPerPixel (right
    // turns the yaw up, down turns the pitch up); the pitch stays within +-kMaxPitch, the yaw within [0, 360).
    void BeginDrag(int x, int y);
    void DragTo(int x, int y);
    void EndDrag() { dragging_ = false; }
    bool dragging() const { return dragging_; }
    // The wheel: `delta` in the system's units (kWheelNotch a notch, positive away from the user: nearer).
    void Wheel(int delta);
    // Home: kHomeView.
    void ResetView();

    void setWireframe(bool on);
    void setShowFindings(bool on);
    bool wireframe() const { return options_.wireframe; }
    bool showFindings() const { return options_.findings; }
    // View, Textures: whether textured faces show their images. Kept in TORVALE.cfg ([view] textures).
    void setShowTextures(bool on);
    bool showTextures() const;

    // The images of the current model's textures, slot k for its texture k. A new model drops them, so they
    // are given after the model changed; faces whose texture has none keep their flat colours.
    void setTextureImages(TextureImages images);
    const TextureImages& textureImages() const { return images_; }
    const View& view() const { return view_; }

    // Whether a model is loaded; its title ("" without one); the faces the picture holds (those with corners).
    bool hasModel() const { return model_ != nullptr; }
    const std::string& title() const { return title_; }
    std::size_t drawnFaces();
    std::size_t flaggedFaces();
    // "Model Preview", then " - TITLE (N faces)" with a model.
    std::string Caption();

    // Draws the current model (or the background alone) into `frame`. False when the frame does not fit.
    bool Draw(const Frame& frame);

    // ModelListener
    void ModelChanged(const Scene* scene, const Room* room, const std::string& title) override;
    // ModelChanged has dropped the old model's images; a model without any is drawn once, not twice.
    void TexturesFound(const TextureImages& images) override {
        if (std::any_of(images.begin(), images.end(), [](const FoundImage& found) { return found.image != nullptr; }))
            setTextureImages(images);
    }

private:
    const PreviewScene& scene();
    void changed();

    MainWindowPresenter& main_;
    const Scene* model_ = nullptr;
    const Room* room_ = nullptr;
    std::string title_;
    PreviewScene scene_;
    TextureImages images_;
    bool sceneBuilt_ = false;
    View view_ = kHomeView;
    RenderOptions options_;
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
    View dragStart_;
    std::function<void()> changed_;
};

}  // namespace torvale
