#pragma once
// The riders of the motorcycles.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CHumanManager {
public:
  int Create();
  void Update();
  void UpdateVisibility();
  void Render();
  void RenderShadows();
  void Release();
};

extern CHumanManager g_HumanManager;
