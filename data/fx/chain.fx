// Post-processing triggers: techniques that draw nothing themselves and hand
// a screen quad with the chain's material to the renderer.
technique Full < bool quad = true; string material = "glowChain"; > {
}

technique Simple < bool quad = true; string material = "glowChainSimple"; > {
}
