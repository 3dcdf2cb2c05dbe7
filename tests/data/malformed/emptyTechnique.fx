technique { }
